# The browser edition: the same Qt-free libraries as the desktop, compiled to
# WebAssembly with Emscripten, and a realisation of the control tables in the
# page. Builds site/ (the folder to publish) and permoroplus.html (the game in
# one file). Configured by the preset "web".

# Any control table realised as elements of the page.
add_library(platform_web STATIC
    platform/web/css.h platform/web/css.cpp
    platform/web/web_page.h platform/web/web_page.cpp platform/web/page_window.h
    platform/web/web_window.h platform/web/web_window.cpp platform/web/web_captions.cpp
    platform/web/elements.h
    platform/web/motion.h platform/web/motion.cpp
    platform/web/web_sound.h platform/web/web_sound.cpp)
target_link_libraries(platform_web PUBLIC forms)

set(PERMORO_WEB_LINK_OPTIONS
    -lembind
    # No eval(): the page's Content-Security-Policy forbids it.
    -sDYNAMIC_EXECUTION=0
    -sENVIRONMENT=web
    -sFILESYSTEM=0
    -sINITIAL_MEMORY=2MB -sTOTAL_STACK=256KB -sALLOW_MEMORY_GROWTH=1
    # A small allocator: the program allocates little, and seldom.
    -sMALLOC=emmalloc
    -sINCOMING_MODULE_JS_API=[]
    # Every browser the game runs in has TextDecoder: no decoder of its own.
    -sTEXTDECODER=2)

# The page with the program beside it, and the same program with the
# WebAssembly inside its script, for the single file.
foreach(edition permoroplus_web permoroplus_single)
    add_executable(${edition} app/web_main.cpp)
    target_link_libraries(${edition} PRIVATE game platform_web)
    target_link_options(${edition} PRIVATE ${PERMORO_WEB_LINK_OPTIONS})
endforeach()
set_target_properties(permoroplus_web PROPERTIES OUTPUT_NAME permoroplus SUFFIX .js)
set_target_properties(permoroplus_single PROPERTIES OUTPUT_NAME permoroplus-single SUFFIX .js)
target_link_options(permoroplus_single PRIVATE -sSINGLE_FILE=1)

# A module of the teacher's page: the game's own C++ with a few functions
# for the page, built as NAME.js and NAME.wasm, loaded as EXPORT_NAME().
function(teacher_module target source name export_name functions)
    add_executable(${target} ${source})
    target_link_libraries(${target} PRIVATE classroom)
    target_link_options(${target} PRIVATE
        -sDYNAMIC_EXECUTION=0 -sENVIRONMENT=web -sFILESYSTEM=0 -sMALLOC=emmalloc
        -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=${export_name} -sEXPORTED_FUNCTIONS=${functions}
        # The page hands the module no settings of its own, and every
        # browser it runs in decodes text itself.
        -sINCOMING_MODULE_JS_API=[] -sTEXTDECODER=2
        -sEXPORTED_RUNTIME_METHODS=ccall)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} SUFFIX .js)
endfunction()

# The page reads links with the game's own rules.
teacher_module(permoroplus_teacher classroom/teacher_main.cpp teacher_core TeacherCore
    _teacher_kinds,_teacher_begin,_teacher_course,_teacher_link,_teacher_read)
# The class's cards, read with the game's own reader: loaded when the first
# card is read.
teacher_module(permoroplus_teacher_class classroom/teacher_class_main.cpp teacher_class TeacherClass
    _teacher_card,_teacher_missed_begin,_teacher_missed_card,_teacher_missed)
# Printed worksheets of the link's courses, made by the game's own kinds:
# loaded when the first sheet is asked for.
teacher_module(permoroplus_teacher_sheet classroom/teacher_sheet_main.cpp teacher_sheet TeacherSheet
    _teacher_sheet,_teacher_sheet_courses)

# The facts the site's build writes into its pages (app/web/site_facts.cpp),
# run by node.
add_executable(site_facts app/web/site_facts.cpp platform/web/css.cpp)
target_link_libraries(site_facts PRIVATE classroom)
target_link_options(site_facts PRIVATE -sENVIRONMENT=node -sFILESYSTEM=0)

# The QR codes of the teacher's page: Debian's node-qrcode-generator.
set(PERMORO_QRCODE_JS /usr/share/nodejs/qrcode-generator/qrcode.js CACHE FILEPATH "qrcode-generator's qrcode.js")
if(NOT EXISTS ${PERMORO_QRCODE_JS})
    message(FATAL_ERROR "${PERMORO_QRCODE_JS} is missing: tools/setup.sh --web installs node-qrcode-generator")
endif()

# The teacher's page reads QR codes with zxing-wasm where the browser has no
# reader of its own: installed from the npm registry as its lock file pins
# it, beside the build, and copied into the site.
find_program(PERMORO_NPM NAMES npm REQUIRED)
set(PERMORO_LIBRARIES ${CMAKE_BINARY_DIR}/page_libraries)
add_custom_command(
    OUTPUT ${PERMORO_LIBRARIES}/node_modules/zxing-wasm/package.json
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PERMORO_LIBRARIES}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/app/web/libraries/package.json
        ${CMAKE_CURRENT_SOURCE_DIR}/app/web/libraries/package-lock.json ${PERMORO_LIBRARIES}/
    COMMAND ${PERMORO_NPM} ci --prefix ${PERMORO_LIBRARIES} --no-audit --no-fund --ignore-scripts
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/web/libraries/package.json ${CMAKE_CURRENT_SOURCE_DIR}/app/web/libraries/package-lock.json
    COMMENT "Installing the teacher's page's libraries (npm ci)")

find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB PERMORO_WEB_SHELL LIST_DIRECTORIES false CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/web/* ${CMAKE_CURRENT_SOURCE_DIR}/classroom/web/*)
find_program(PERMORO_NODE_FOR_SITE NAMES node nodejs REQUIRED)
file(GLOB PERMORO_WEB_PICTURES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/opening/web/*.webp)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/site/index.html ${CMAKE_BINARY_DIR}/permoroplus.html
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/app/web/make_site.py
        ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${PERMORO_QRCODE_JS} ${PERMORO_LIBRARIES}/node_modules/zxing-wasm
        ${PERMORO_NODE_FOR_SITE}
    DEPENDS permoroplus_web permoroplus_single site_facts permoroplus_teacher permoroplus_teacher_class permoroplus_teacher_sheet ${PERMORO_QRCODE_JS} ${PERMORO_WEB_SHELL} ${PERMORO_WEB_PICTURES}
        ${PERMORO_LIBRARIES}/node_modules/zxing-wasm/package.json
        ${CMAKE_CURRENT_SOURCE_DIR}/resources/fonts/BIZUDGothic-Regular.subset.woff2
        ${CMAKE_CURRENT_SOURCE_DIR}/resources/fonts/BIZUDGothic-Bold.subset.woff2
    COMMENT "Putting the web site and the single file together")
add_custom_target(web_site ALL DEPENDS ${CMAKE_BINARY_DIR}/site/index.html ${CMAKE_BINARY_DIR}/permoroplus.html)

if(PERMORO_TESTS)
    enable_testing()
    add_subdirectory(tests/web)
endif()
