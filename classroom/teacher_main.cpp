// The teacher's page's module of the form and the link (teacher_form.h),
// compiled from the same rules as the game so that the page never holds a
// second copy of them. The page gives the form's values as numbers and gets
// JSON back; it never writes or takes apart a link itself. Each text lives
// until the next call of its function.
#include "teacher_form.h"

#include <emscripten/emscripten.h>

namespace {

classroom::Form form;

const char* kept(std::string& out, std::string text)
{
    out = std::move(text);
    return out.c_str();
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_kinds()
{
    static std::string out;
    return kept(out, classroom::kindsJson());
}

// A new form: no course yet.
extern "C" EMSCRIPTEN_KEEPALIVE void teacher_begin()
{
    form = {};
}

extern "C" EMSCRIPTEN_KEEPALIVE void teacher_course(int kind, int tables, int from, int to, int option)
{
    form.course(kind, tables, from, to, option);
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_link(int seconds, int paceThousandths, int soundOff, int againOff, int slow,
                                                        int keepScore, int typed)
{
    static std::string out;
    return kept(out, form.link(seconds, paceThousandths, soundOff != 0, againOff != 0, slow, keepScore != 0, typed != 0));
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* teacher_read(const char* query)
{
    static std::string out;
    return kept(out, classroom::readingJson(query ? query : ""));
}
