#!/usr/bin/env python3
"""Put the browser edition together from the compiled program and the page shell.

    make_site.py SOURCE_DIR BUILD_DIR QRCODE_JS ZXING_WASM_DIR NODE

writes BUILD_DIR/site/ (the folder to publish on any static web server: the
page, the program, its fonts, pictures and icons, the manifest, the
teacher's page with its own small program, QRCODE_JS and the QR code
reader of ZXING_WASM_DIR (the npm package zxing-wasm), and the service
worker that keeps them for offline play) and BUILD_DIR/permoroplus.html (the
whole game in one file, for opening from a folder or a USB stick).

Both pages forbid every other origin: the site loads only its own files,
the single file only what it holds. What the pages say of the program's
own data (the controls' faces, the notice's colour, the teacher's form's
bounds, choices and units) comes from BUILD_DIR/site_facts.js, run by NODE.
"""

import base64
import hashlib
import html
import json
import re
import shutil
import subprocess
import sys
from pathlib import Path

SHELL = "app/web"
TEACHER = "classroom/web"
FONTS = [("BIZUDGothic-Regular.subset.woff2", "normal"), ("BIZUDGothic-Bold.subset.woff2", "bold")]
PICTURES = ["haikei.gif"] + [f"frame{k:02d}.gif" for k in range(12)]
FAVICON = "form1-32.png"
APP_ICONS = ["form1-192.png", "form1-512.png"]
# The teacher's page: kept offline once it has been opened, never fetched
# by the game's own first visit. (Its QR library, qrcode.js, is the game's
# too: the game's service worker keeps it with the game's files, and the
# page fetches it when the first result card opens.)
TEACHER_FILES = ["teacher.html", "teacher.css", "teacher.js", "teacher_local.js", "link.js", "loader.js", "qr.js", "qrcode_module.js",
                 "teacher_core.js", "teacher_core.wasm",
                 "teacher_cards.js", "teacher_class.js", "teacher_class.wasm",
                 "teacher_read.js", "teacher_read_worker.js", "zxing_reader.js", "zxing_reader.wasm",
                 "teacher_sheet.js", "teacher_sheet.wasm", "teacher_sheet_page.js", "teacher_sheet.css"]
# The teacher's page's own scripts: its modules (the form, the link, the
# loader and the QR codes at once; the class's cards, reading them off
# pictures and the camera, and the sheets when first asked for) and the
# reading's worker. zxing-wasm's reader (its script for a worker and its
# WebAssembly) is for browsers with no QR reader of their own.
TEACHER_SCRIPTS = ["teacher.js", "teacher_local.js", "link.js", "loader.js", "qr.js", "teacher_cards.js", "teacher_read.js",
                   "teacher_read_worker.js", "teacher_sheet_page.js"]
ZXING_FILES = [("dist/iife/reader/index.js", "zxing_reader.js"), ("dist/reader/zxing_reader.wasm", "zxing_reader.wasm")]
# What the teacher's page and the game never call of qrcode-generator (they
# draw the modules themselves on a canvas, and always encode bytes): the
# other pictures and the encoders behind them, the tables for Shift_JIS,
# and the numeric, alphanumeric and kanji modes.
QRCODE_UNUSED = ["createTableTag", "createSvgTag", "createDataURL", "createImgTag", "_createHalfASCII", "createASCII",
                 "renderTo2dContext", "createStringToBytes", "byteArrayOutputStream", "base64EncodeOutputStream",
                 "base64DecodeInputStream", "gifImage", "escapeXml", "qrNumber", "qrAlphaNum", "qrKanji"]



def site_policy(scripts, style):
    """The site's own files only; the style and the scripts inlined in its
    page are named by their hashes."""
    hashes = " ".join(sha256_source(script) for script in scripts)
    return (f"default-src 'self'; script-src 'self' {hashes} 'wasm-unsafe-eval'; "
            f"style-src 'self' {sha256_source(style)}; img-src 'self' data:; font-src 'self'; connect-src 'self'; "
            "manifest-src 'self'; worker-src 'self'; object-src 'none'; base-uri 'none'; form-action 'none'")


def teacher_policy():
    """The teacher's page: its own files only, no inline script or style."""
    return ("default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self'; "
            "font-src 'self'; connect-src 'self'; worker-src 'self'; object-src 'none'; base-uri 'none'; "
            "form-action 'none'")


def data_url(path, mime):
    return f"data:{mime};base64," + base64.b64encode(path.read_bytes()).decode("ascii")


def sha256_source(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode("ascii") + "'"


def resource_css(url_of):
    """The fonts and the pictures, named as the program asks for them."""
    lines = []
    for file, weight in FONTS:
        lines.append('@font-face {\n    font-family: "BIZ UDGothic";\n'
                     f'    src: url("{url_of("fonts/" + file)}") format("woff2");\n'
                     f'    font-weight: {weight};\n    font-display: block;\n}}\n')
    # The picture ":/opening/haikei.gif" of a control is var(--opening-haikei-gif).
    lines.append(":root {\n")
    for file in PICTURES:
        name = "opening-" + file.replace(".", "-")
        lines.append(f'    --{name}: url("{url_of("opening/" + file)}");\n')
    lines.append("}\n\n")
    return "".join(lines)


def check_inlinable(style, scripts):
    for text, tag in [(style, "</style")] + [(script, "</script") for script in scripts]:
        if tag in text.lower():
            sys.exit(f"make_site.py: cannot inline text holding {tag}>")


def page(shell, policy, head, scripts):
    html = (shell / "index.html").read_text(encoding="utf-8")
    return html.replace("@CSP@", policy).replace("@HEAD@", head).replace("@SCRIPTS@", scripts)


def facts_of(build, node):
    """What the program says of itself for the pages (app/web/site_facts.cpp)."""
    # This Emscripten fetches its WebAssembly in node too, where fetch() takes
    # no path: node reads the file itself without it.
    made = subprocess.run([str(node), "--no-experimental-fetch", str(build / "site_facts.js")], check=True,
                          capture_output=True, text=True)
    return json.loads(made.stdout)


def with_facts(text, facts):
    """A style sheet with the controls' faces and the notice's colour."""
    return text.replace("@FACES@", facts["faces"]).replace("@NOTICE@", facts["notice"])


def teacher_page(text, facts):
    """The teacher's page with its form's choices and the ready-made units
    written in, so that its first paint has its final shape."""
    rules = facts["rules"]
    seconds = rules["seconds"]
    time = (f'<input id="time" type="number" min="{seconds["fewest"]}" max="{seconds["most"]}" step="{seconds["step"]}" '
            f'value="{seconds["usual"]}"> びょう（{seconds["fewest"]}〜{seconds["most"]}）')
    paces = "\n".join(f'<option value="{p["value"]}">{html.escape(p["label"])}</option>' for p in rules["paces"])
    grades = {}
    for unit in facts["units"]:
        grades.setdefault(unit["grade"], []).append(unit)
    units = "\n".join(
        f'<p class="grade" role="group" aria-label="{html.escape(grade)}"><b>{html.escape(grade)}</b> '
        + " ".join(f'<button type="button" data-link="{html.escape(u["link"])}">{html.escape(u["name"])}</button>' for u in listed)
        + "</p>" for grade, listed in grades.items())
    # The form's first row, blank, as the module makes it again.
    row = re.search(r'<template id="course-row">\s*(<li>.*?</li>)\s*</template>', text, re.S).group(1)
    # The bounds its scripts use, as data the page does not run.
    used = {"courses": rules["courses"], "sheets": rules["sheets"]}
    bounds = json.dumps(used, ensure_ascii=False, separators=(",", ":")).replace("<", "\\u003c")
    return (text.replace("@TIME@", time).replace("@PACES@", paces).replace("@UNITS@", units).replace("@ROW@", row)
            .replace("@RULES@", bounds)
            .replace("@COURSES@", str(rules["courses"])))


def make_site(source, build, qrcode_js, zxing, facts):
    shell = source / SHELL
    teachers = source / TEACHER
    site = build / "site"
    if site.exists():
        shutil.rmtree(site)
    for folder in ("fonts", "icons"):
        (site / folder).mkdir(parents=True)

    shutil.copyfile(build / "permoroplus.wasm", site / "permoroplus.wasm")
    shutil.copyfile(shell / "manifest.webmanifest", site / "manifest.webmanifest")
    for file, _ in FONTS:
        shutil.copyfile(source / "resources/fonts" / file, site / "fonts" / file)
    for file in [FAVICON] + APP_ICONS:
        shutil.copyfile(source / "resources/icons" / file, site / "icons" / file)

    # The style, the scripts and the opening's pictures (30 KB) stand in the
    # page itself: its first picture waits for no request but the program's
    # WebAssembly, which is fetched at once. The fonts are first needed by
    # the game window, two seconds later, and the program asks for them as
    # it starts.
    style = resource_css(lambda path: inlined(source, path) if path.startswith("opening/") else path)
    style += with_facts((shell / "style.css").read_text(encoding="utf-8"), facts)
    scripts = [(build / "permoroplus.js").read_text(encoding="utf-8"), (shell / "boot.js").read_text(encoding="utf-8")]
    check_inlinable(style, scripts)
    preloads = '<link rel="preload" href="permoroplus.wasm" as="fetch" type="application/wasm" crossorigin>\n'
    head = (f'<style>{style}</style>\n{preloads}'
            f'<link rel="manifest" href="manifest.webmanifest">\n'
            f'<link rel="icon" href="icons/{FAVICON}" type="image/png">\n'
            f'<link rel="apple-touch-icon" href="icons/{APP_ICONS[0]}">')
    body = "".join(f"<script>{script}</script>\n" for script in scripts)
    (site / "index.html").write_text(page(shell, site_policy(scripts, style), head, body), encoding="utf-8")

    # The teacher's page goes without its comments and indentation: it is
    # fetched by a teacher's browser, often a school's slow network.
    teacher = (teachers / "teacher.html").read_text(encoding="utf-8").replace("@CSP@", teacher_policy())
    (site / "teacher.html").write_text(teacher_page(teacher, facts), encoding="utf-8")
    for file in ("teacher.css", "teacher_sheet.css"):
        (site / file).write_text(plain_css(with_facts((teachers / file).read_text(encoding="utf-8"), facts)), encoding="utf-8")
    for file in TEACHER_SCRIPTS:
        (site / file).write_text(plain_script((teachers / file).read_text(encoding="utf-8")), encoding="utf-8")
    for file in ("teacher_core.js", "teacher_core.wasm", "teacher_class.js", "teacher_class.wasm", "teacher_sheet.js",
                 "teacher_sheet.wasm"):
        shutil.copyfile(build / file, site / file)
    # qrcode-generator keeps its notice of copyright and licence (the
    # comment it begins with) and what the page draws with.
    qrcode = without_functions(Path(qrcode_js).read_text(encoding="utf-8"), QRCODE_UNUSED)
    (site / "qrcode.js").write_text(plain_script(qrcode, keep_head=True), encoding="utf-8")
    # The game's result card draws its QR code with it, as a script; the
    # teacher's page imports the same as a module.
    (site / "qrcode_module.js").write_text(plain_script(qrcode, keep_head=True) + "export default qrcode;\n", encoding="utf-8")

    # zxing-wasm as published, its notice of copyright and licence first.
    package = json.loads((zxing / "package.json").read_text(encoding="utf-8"))
    notice = "".join(f"// {line}".rstrip() + "\n" for line in (zxing / "LICENSE").read_text(encoding="utf-8").splitlines())
    head = (f"// zxing-wasm {package['version']} (https://github.com/Sec-ant/zxing-wasm), ZXing-C++ built for WebAssembly.\n"
            "// zxing_reader.wasm, ZXing-C++ and its bindings: Apache License 2.0\n"
            "// (https://www.apache.org/licenses/LICENSE-2.0). This script:\n"
            f"{notice}")
    for published, file in ZXING_FILES:
        if file.endswith(".js"):
            (site / file).write_text(head + (zxing / published).read_text(encoding="utf-8"), encoding="utf-8")
        else:
            shutil.copyfile(zxing / published, site / file)

    # The service worker: the list of every file and a version that changes
    # whenever any of them does.
    files = sorted(p.relative_to(site).as_posix() for p in site.rglob("*") if p.is_file())
    version = hashlib.sha256()
    for name in files:
        version.update(name.encode() + b"\0" + (site / name).read_bytes())
    worker = (shell / "sw.js").read_text(encoding="utf-8")
    version.update(worker.encode())
    worker = worker.replace("@VERSION@", version.hexdigest()[:16])
    worker = worker.replace("@FILES@", json.dumps(["./"] + [f for f in files if f not in TEACHER_FILES]))
    worker = worker.replace("@ON_DEMAND@", json.dumps(TEACHER_FILES))
    (site / "sw.js").write_text(worker, encoding="utf-8")
    return site


def without_functions(text, names):
    """The script without the functions of these names ("name = function"
    as a variable, a method or a property, through the closing brace at
    its own indentation). A function whose end is not found leaves the
    script whole."""
    start = re.compile(r"^( *)(?:var |_this\.|qrcode\.)(?:%s) = function\b" % "|".join(map(re.escape, names)))
    kept = []
    end = None
    for line in text.split("\n"):
        if end is not None:
            if line.rstrip(";") == end:
                end = None
            continue
        found = start.match(line)
        if found:
            end = found.group(1) + "}"
            continue
        kept.append(line)
    return text if end is not None else "\n".join(kept)


def plain_script(text, keep_head=False):
    """A script without its whole-line comments, blank lines and
    indentation, each line of code kept as it is (what a line break means
    to the script stays). Only for scripts with no text running over
    several lines (no template or string continued on the next line)."""
    lines = text.split("\n")
    head = []
    if keep_head:
        while lines and lines[0].startswith("//"):
            head.append(lines.pop(0))
    kept = []
    in_comment = False
    for number, line in enumerate(lines, 1):
        code = line.strip()
        if in_comment or code.startswith("/*"):
            in_comment = "*/" not in code
            if not in_comment and not code.endswith("*/"):
                sys.exit(f"make_site.py: code after a comment on line {number}")
            continue
        if not code or code.startswith("//"):
            continue
        if code.count("`") % 2:
            sys.exit(f"make_site.py: a template runs over line {number}")
        kept.append(code)
    return "\n".join(head + kept) + "\n"


def plain_css(text):
    """A style sheet without its comments and indentation."""
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    return "\n".join(line.strip() for line in text.split("\n") if line.strip()) + "\n"


def inlined(source, path):
    """A file of the site (fonts/..., opening/..., icons/...) as a data: address."""
    folder = {"fonts": "resources/fonts", "opening": "resources/opening", "icons": "resources/icons"}
    mime = {".woff2": "font/woff2", ".webp": "image/webp", ".png": "image/png"}
    first, _, rest = path.partition("/")
    file = source / folder[first] / rest
    if first == "opening":
        # The page carries the same pixels in lossless WebP, a third lighter.
        file = file.parent / "web" / file.with_suffix(".webp").name
    return data_url(file, mime[file.suffix])


def make_single_file(source, build, qrcode, facts):
    shell = source / SHELL

    def inline(path):
        return inlined(source, path)

    style = resource_css(inline) + with_facts((shell / "style.css").read_text(encoding="utf-8"), facts)
    # The file holds the QR library of the result card as well: it can
    # fetch nothing.
    scripts = [qrcode, (build / "permoroplus-single.js").read_text(encoding="utf-8")]
    check_inlinable(style, scripts)
    # Nothing from outside the file: only the style and the scripts it holds
    # run, and the program, pictures and fonts come from data: addresses
    # (the program's loader fetches its own).
    hashes = " ".join(sha256_source(script) for script in scripts)
    policy = (f"default-src 'none'; script-src {hashes} 'wasm-unsafe-eval'; "
              f"style-src {sha256_source(style)}; img-src data:; font-src data:; connect-src data:; "
              "object-src 'none'; base-uri 'none'; form-action 'none'")
    head = (f'<style>{style}</style>\n'
            f'<link rel="icon" href="{inline("icons/" + FAVICON)}" type="image/png">')
    html = page(shell, policy, head, "".join(f"<script>{script}</script>" for script in scripts))
    target = build / "permoroplus.html"
    target.write_text(html, encoding="utf-8")
    return target


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    source, build = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    facts = facts_of(build, Path(sys.argv[5]))
    site = make_site(source, build, Path(sys.argv[3]), Path(sys.argv[4]), facts)
    single = make_single_file(source, build, (site / "qrcode.js").read_text(encoding="utf-8"), facts)
    total = sum(p.stat().st_size for p in site.rglob("*") if p.is_file())
    print(f"{site}: {total} bytes; {single}: {single.stat().st_size} bytes")


if __name__ == "__main__":
    main()
