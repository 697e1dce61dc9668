// The same steps as drive_page.mjs, in WebKit (the engine of the iPhone's browsers): Debian's
// WebKitWebDriver with its MiniBrowser, driven through selenium-webdriver. Run under a virtual
// display (xvfb-run). Prints the same JSON. Nothing leaves the machine: the page's window.open
// is recorded instead of followed, as the Chromium driver answers outside addresses itself.
import { Builder, By } from 'selenium-webdriver';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const input = JSON.parse(fs.readFileSync(0, 'utf8'));
const driverPath = process.env.KORVANTE_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver';
const browserPath = process.env.KORVANTE_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const out = { results: [], dialogs: [], opened: [], blocked: [], consoleErrors: [], pageErrors: [] };

function freePort() {
    return new Promise((resolve, reject) => {
        const s = net.createServer();
        s.once('error', reject);
        s.listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => resolve(port)); });
    });
}

async function waitForDriver(port) {
    for (let i = 0; i < 100; i++) {
        try {
            const r = await fetch(`http://127.0.0.1:${port}/status`);
            if (r.ok) return;
        } catch (e) { /* not up yet */ }
        await new Promise((r) => setTimeout(r, 100));
    }
    throw new Error('WebKitWebDriver did not start');
}

// Playwright's "text=X" and 'button:has-text("X")', the two text selectors the tests use.
function locate(selector) {
    let m = /^text=(.*)$/.exec(selector);
    if (m) return By.xpath(`//*[contains(normalize-space(.), ${JSON.stringify(m[1])}) and not(*[contains(normalize-space(.), ${JSON.stringify(m[1])})])]`);
    m = /^(\w+):has-text\("(.*)"\)$/.exec(selector);
    if (m) return By.xpath(`//${m[1]}[contains(., ${JSON.stringify(m[2])})]`);
    return By.css(selector);
}

// An alert the last action raised: its text is kept and it is accepted, as a person would.
async function takeAlert(driver) {
    try {
        const alert = await driver.switchTo().alert();
        out.dialogs.push({ type: 'alert', message: await alert.getText() });
        await alert.accept();
        return true;
    } catch (e) {
        return false;
    }
}

const instrument = `
    window.__opened = window.__opened || [];
    window.open = function (url) { window.__opened.push(String(url)); return null; };
    if (!window.__errorsWatched) {
        window.__errorsWatched = true; window.__errors = [];
        window.addEventListener('error', function (e) { window.__errors.push(String(e.message)); });
    }
    return true;`;

let driverProcess, driver, screenDir;
try {
    const port = await freePort();
    driverProcess = spawn(driverPath, [`--port=${port}`], { stdio: 'ignore' });
    await waitForDriver(port);
    driver = await new Builder()
        .usingServer(`http://127.0.0.1:${port}`)
        .withCapabilities({
            browserName: 'MiniBrowser',
            unhandledPromptBehavior: 'ignore',
            'webkitgtk:browserOptions': { binary: browserPath, args: ['--automation'] },
        })
        .build();
    // MiniBrowser's window cannot be as narrow as a phone: the page gets a screen of the size
    // asked for as a frame of exactly that size in a larger window.
    const size = input.viewport || { width: 1280, height: 900 };
    screenDir = fs.mkdtempSync(path.join(os.tmpdir(), 'korvante-webkit-'));
    const screen = path.join(screenDir, 'screen.html');
    fs.writeFileSync(screen, `<!DOCTYPE html><html><body style="margin:0">` +
        `<iframe id="screen" src="${pathToFileURL(input.page).href}" style="border:0;display:block;` +
        `width:${size.width}px;height:${size.height}px"></iframe></body></html>`);
    await driver.manage().window().setRect({ width: size.width + 200, height: size.height + 200 });
    await driver.get(pathToFileURL(screen).href);
    for (let i = 0; i < 100; i++) {
        const ready = await driver.executeScript(
            'const d = document.getElementById("screen").contentDocument; return !!d && d.readyState == "complete";');
        if (ready) break;
        await driver.sleep(100);
    }
    await driver.switchTo().frame(await driver.findElement(By.id('screen')));
    await driver.executeScript(instrument);
    for (const step of input.steps || []) {
        let result = null;
        try {
            if ('click' in step) {
                await driver.findElement(locate(step.click)).click();
                await takeAlert(driver);
            } else if ('type' in step) await driver.findElement(locate(step.type[0])).sendKeys(step.type[1]);
            else if ('blur' in step) await driver.executeScript('arguments[0].blur();', await driver.findElement(locate(step.blur)));
            else if ('text' in step) result = await driver.executeScript('return arguments[0].textContent;', await driver.findElement(locate(step.text)));
            else if ('html' in step) result = await driver.executeScript('return arguments[0].innerHTML;', await driver.findElement(locate(step.html)));
            else if ('value' in step) result = await driver.executeScript('return arguments[0].value;', await driver.findElement(locate(step.value)));
            else if ('visible' in step) result = await driver.findElement(locate(step.visible)).isDisplayed();
            else if ('eval' in step) {
                result = await driver.executeScript(`return (${step.eval});`);
                await takeAlert(driver);
            } else if ('screenshot' in step) {
                const png = step.selector ? await driver.findElement(locate(step.selector)).takeScreenshot()
                                          : await driver.takeScreenshot();
                fs.writeFileSync(step.screenshot, Buffer.from(png, 'base64'));
            } else if ('wait' in step) await driver.sleep(step.wait);
        } catch (e) {
            await takeAlert(driver);
            result = { error: String(e && e.message ? e.message : e).split('\n')[0] };
        }
        out.results.push(result === undefined ? null : result);
    }
    await driver.sleep(300);
    await takeAlert(driver);
    out.opened = await driver.executeScript('return window.__opened || [];');
    out.pageErrors = await driver.executeScript('return window.__errors || [];');
} catch (e) {
    out.failure = String(e && e.stack ? e.stack : e);
} finally {
    if (driver) await driver.quit().catch(() => {});
    if (driverProcess) driverProcess.kill();
    if (screenDir) fs.rmSync(screenDir, { recursive: true, force: true });
}
process.stdout.write(JSON.stringify(out));
