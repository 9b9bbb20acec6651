#!/usr/bin/env python3
"""End-to-end test of `ramulet --html` in a real browser (headless Chromium).

    browser_test.py RAMULET OUTPUT_DIR

For a made-up configuration of each platform generation it writes the
site, then, as a user would: opens the index, types in the search field,
follows a result to a module page, follows a call link into another
module, and unfolds a node of the call tree, checking what is shown at
each step. Any console error, uncaught exception or failed load fails the
test. Screenshots of the index and a module page are saved in
OUTPUT_DIR, and the load time of a 60,000-line module page is printed.
"""
import os
import pathlib
import shutil
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import devtools  # noqa: E402

BOM = "\ufeff"

NEWER = {
    "Configuration.xml": "<MetaDataObject><Configuration><Properties><Name>Проба</Name></Properties>"
                         "</Configuration></MetaDataObject>\n",
    "CommonModules/ОбщегоНазначения.xml": "<MetaDataObject><CommonModule><Properties><Global>false</Global>"
                                         "</Properties></CommonModule></MetaDataObject>\n",
    "CommonModules/ОбщегоНазначения/Ext/Module.bsl": BOM + """// Общие процедуры
Функция ПолучитьЗначениеРеквизита(Ссылка, Имя) Экспорт
    Возврат ЗначениеРеквизита(Ссылка, Имя);
КонецФункции

Функция ЗначениеРеквизита(Ссылка, Имя)
    Возврат Неопределено;
КонецФункции

Процедура СообщитьПользователю(Текст) Экспорт
    Сообщение = Новый СообщениеПользователю; // "</script><img onerror=alert(1)>"
    Сообщение.Текст = Текст;
КонецПроцедуры
""",
    "Catalogs/Валюты/Ext/ManagerModule.bsl": BOM + """Функция КурсВалюты(Валюта) Экспорт
    Код = ОбщегоНазначения.ПолучитьЗначениеРеквизита(Валюта, "Код");
    ОбщегоНазначения.СообщитьПользователю("Курс & <b>" + Код);
    Возврат Пересчитать(Код);
КонецФункции

Функция Пересчитать(Код)
    Возврат Код;
КонецФункции
""",
    "Documents/Счет/Ext/ObjectModule.bsl": BOM + """Процедура ОбработкаПроведения(Отказ)
    Курс = Справочники.Валюты.КурсВалюты(Валюта);
    ОбщегоНазначения.СообщитьПользователю("Проведено");
КонецПроцедуры
""",
}

OLD = {
    "ГлобальныйМодуль.1s": """Функция ПолучитьЗначениеРеквизита(Знач Объект, Имя) Экспорт
    Возврат Объект;
КонецФункции

Процедура Сообщить2(Текст) Экспорт
    Сообщить(Текст);
КонецПроцедуры
""",
    "Документы/Счет/МодульПроведения.1s": """Процедура ОбработкаПроведения()
    Сумма = ПолучитьЗначениеРеквизита(Документ, "Сумма");
    Итог();
КонецПроцедуры

Процедура Итог()
    Сообщить2("Итог");
КонецПроцедуры
""",
}


def write_tree(root, files, encoding):
    for relative, text in files.items():
        path = root / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(text.encode(encoding))


def write_long_module(path, lines=60000):
    out = [BOM]
    for m in range(lines // 6):
        out.append(f"Процедура Метод{m}(Параметр) Экспорт\n")
        out.append(f"    // комментарий {m}\n")
        out.append(f"    Значение = \"строка {m}\";\n")
        out.append(f"    Метод{max(m - 1, 0)}(Значение);\n" if m else "    Возврат;\n")
        out.append("    Сообщить(Значение);\n")
        out.append("КонецПроцедуры\n")
    path.write_text("".join(out), encoding="utf-8")


def build_site(ramulet, source, site):
    shutil.rmtree(site, ignore_errors=True)
    run = subprocess.run([ramulet, "--html", str(site), str(source)], capture_output=True, text=True, timeout=120)
    if run.returncode != 0:
        raise AssertionError(f"ramulet --html {source} exited {run.returncode}: {run.stderr}")


class Steps:
    def __init__(self, browser):
        self.browser = browser
        self.failures = []

    checked = 0

    def check(self, condition, what):
        print(("ok   " if condition else "FAIL ") + what)
        Steps.checked += 1
        if not condition:
            self.failures.append(what)

    def value(self, expression):
        return self.browser.evaluate(expression)


def walk_site(browser, site, generation, shots):
    steps = Steps(browser)
    b = browser
    b.navigate((site / "index.html").as_uri())
    steps.check(b.evaluate("document.querySelectorAll('table a').length") >= 3, f"{generation}: the index lists modules")
    b.click("document.getElementById('search')")
    b.type_text("ПЗР")
    time.sleep(0.3)
    first = b.evaluate("(() => { const a = document.querySelector('#results a'); return a ? a.textContent : null })()")
    steps.check(first == "ПолучитьЗначениеРеквизита", f"{generation}: initials ПЗР find ПолучитьЗначениеРеквизита ({first})")
    if shots:
        b.screenshot(str(shots / f"{generation}-index.png"))
    mark = len(b.events)
    b.click("document.querySelector('#results a')")
    b.wait_event("Page.loadEventFired", since=mark)
    anchor = b.evaluate("location.hash")
    steps.check(b.evaluate(f"!!document.getElementById('{anchor[1:]}')") if anchor else False,
                f"{generation}: the result opens a module page at the method's anchor ({anchor})")
    steps.check(b.evaluate("document.body.textContent.includes('ПолучитьЗначениеРеквизита')"),
                f"{generation}: the page shows the method")

    # From a calling module: follow a call link into another module.
    caller_page = b.evaluate("""(() => { const links = [...document.querySelectorAll('aside .methods a')]
        .filter(a => a.getAttribute('href').startsWith('m')); return links.length ? links[0].href : null })()""")
    steps.check(caller_page is not None, f"{generation}: the method lists callers from another module")
    if caller_page:
        b.navigate(caller_page)
        here = b.evaluate("location.pathname")
        link = b.evaluate("""(() => { const a = [...document.querySelectorAll('main.code a')]
            .find(a => a.getAttribute('href').startsWith('m')); return a ? a.getAttribute('href') : null })()""")
        steps.check(link is not None, f"{generation}: the caller's code links a call into another module")
        if link:
            mark = len(b.events)
            b.click(f"document.querySelector('main.code a[href=\"{link}\"]')")
            b.wait_event("Page.loadEventFired", since=mark)
            steps.check(b.evaluate("location.pathname") != here, f"{generation}: the call link opens the callee's module")
            target = b.evaluate("location.hash")[1:]
            steps.check(b.evaluate(f"!!document.getElementById('{target}')"), f"{generation}: at the callee's header")
    # Unfold a tree node.
    b.navigate((site / "index.html").as_uri())
    pages = sorted(site.glob("m*.html"))
    opened = False
    for page in pages:
        b.navigate(page.as_uri())
        if b.evaluate("!!document.getElementById('tree-box')"):
            b.click("document.querySelector('#tree-box > summary')", at_left=True)
            time.sleep(0.2)
        if b.evaluate("document.querySelectorAll('#tree details').length") > 0:
            before = b.evaluate("document.querySelectorAll('#tree li').length")
            # The marker unfolds; the name itself links to the method.
            b.click("document.querySelector('#tree details > summary')", at_left=True)
            time.sleep(0.2)
            after = b.evaluate("document.querySelectorAll('#tree li').length")
            steps.check(after > before, f"{generation}: unfolding a tree node shows its callees ({before} -> {after})")
            if shots:
                b.screenshot(str(shots / f"{generation}-module.png"))
            opened = True
            break
    steps.check(opened, f"{generation}: some module has a call tree to unfold")
    steps.check(not b.evaluate("document.body.innerHTML.includes('<img onerror')"),
                f"{generation}: text from a module runs nothing")
    return steps.failures


def time_long_page(browser, ramulet, work):
    source = work / "long" / "Длинный.bsl"
    source.parent.mkdir(parents=True, exist_ok=True)
    write_long_module(source)
    site = work / "long-site"
    build_site(ramulet, source, site)
    started = time.monotonic()
    browser.navigate((site / "m0.html").as_uri(), timeout=120)
    wall = time.monotonic() - started
    load = browser.evaluate("performance.getEntriesByType('navigation')[0].loadEventEnd")
    scroll = browser.evaluate("""new Promise(done => {
        const main = document.scrollingElement, steps = 40, frames = [];
        let step = 0, last = performance.now();
        function next() {
          const now = performance.now(); frames.push(now - last); last = now;
          if (++step > steps) { frames.shift(); frames.sort((a, b) => a - b); done([frames[frames.length >> 1], frames[frames.length - 1]]); return; }
          main.scrollTop = (main.scrollHeight - innerHeight) * step / steps;
          requestAnimationFrame(next);
        }
        requestAnimationFrame(next);
    })""", timeout=120)
    size = (site / "m0.html").stat().st_size
    print(f"figure: a 60,000-line module page ({size / 1e6:.1f} MB) loads in {load:.0f} ms "
          f"({wall * 1000:.0f} ms to the load event from the test); scrolling through it in 40 jumps, "
          f"median frame {scroll[0]:.1f} ms, slowest {scroll[1]:.1f} ms")
    return []


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    ramulet, out = sys.argv[1], pathlib.Path(sys.argv[2]).resolve()
    binary = shutil.which("chromium")
    if binary is None:
        print("FAIL the browser test needs Chromium (apt-get install chromium)")
        return 1
    shutil.rmtree(out, ignore_errors=True)
    out.mkdir(parents=True)
    write_tree(out / "newer", NEWER, "utf-8")
    write_tree(out / "old", OLD, "cp1251")
    failures = []
    browser = devtools.Browser(binary)
    try:
        browser.open_page()
        for generation in ("newer", "old"):
            site = out / f"{generation}-site"
            build_site(ramulet, out / generation, site)
            failures += walk_site(browser, site, generation, out)
        failures += time_long_page(browser, ramulet, out)
        problems = browser.problems()
        for problem in problems:
            print("FAIL browser: " + problem)
        Steps.checked += 1
        print(("ok   " if not problems else "FAIL ") + "no console error, exception or failed load on any page")
        if problems:
            failures.append("browser problems")
    finally:
        browser.close()
    print(f"screenshots in {out}")
    print(f"browser test: {Steps.checked - len(failures)} passed, {len(failures)} failed")
    return 0 if not failures else 1


if __name__ == "__main__":
    sys.exit(main())
