# What `cmake --install` puts into the prefix: the program, its desktop
# entry, its AppStream metadata, its icons in the hicolor theme, and the
# copyright notice. Everything the program shows is built into it, so the
# prefix can be anywhere.

include(GNUInstallDirs)

set(PERMORO_APP_ID io.github.permoroplus.PermoroPlus)

# The program links only libraries of the system, found where the system
# keeps them: no run path (the Qt project set-up would add $ORIGIN ones).
set_target_properties(permoroplus PROPERTIES INSTALL_RPATH "")
install(TARGETS permoroplus RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES packaging/${PERMORO_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${PERMORO_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The game icon, each size drawn for its size by tools/make_icons.py.
foreach(size 32 64 128 256)
    install(FILES resources/icons/form1-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${PERMORO_APP_ID}.png)
endforeach()

# The copyright notice in Debian's machine-readable form: the program's
# own code under MIT, the font built into it under the OFL.
function(permoro_license_paragraph name file out)
    file(READ ${file} text)
    string(STRIP "${text}" text)
    string(REGEX REPLACE "[ \t]+\n" "\n" text "${text}")
    string(REPLACE "\n" "\n " text "${text}")
    # An empty line inside a paragraph is written as a lone dot; two passes
    # take care of blank lines that follow each other.
    string(REPLACE "\n \n" "\n .\n" text "${text}")
    string(REPLACE "\n \n" "\n .\n" text "${text}")
    set(${out} "License: ${name}\n ${text}\n" PARENT_SCOPE)
endfunction()

permoro_license_paragraph(MIT ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE mit_text)
permoro_license_paragraph(OFL-1.1 ${CMAKE_CURRENT_SOURCE_DIR}/resources/fonts/OFL.txt ofl_text)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/resources/fonts/OFL.txt)
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: permoroplus
Source: https://github.com/permoroplus/permoroplus

Files: *
Copyright: 2026 The ペルモロプラス developers
License: MIT

Files: resources/fonts/*
Copyright: 2022 The BIZ UDGothic Project Authors (https://github.com/googlefonts/morisawa-biz-ud-gothic)
License: OFL-1.1
Comment: Subsets of BIZ UDGothic Regular and Bold, built into the program.

${mit_text}
${ofl_text}" @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
