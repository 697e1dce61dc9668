// Opens a page file in the Debian Chromium and runs the steps it reads as JSON on standard input;
// prints, as JSON, what each step found, every alert, every address the page tried to open and
// every script error. Nothing leaves the machine: outside addresses are answered here.
//
// input:  {"page": "/path/file.html", "viewport": {"width": 360, "height": 640}, "steps": [...]}
// steps:  {"click": sel} {"type": [sel, text]} {"press": [sel, key]} {"blur": sel}
//         {"text": sel} {"html": sel} {"value": sel} {"visible": sel} {"eval": "js expression"}
//         {"screenshot": path, "selector": sel (optional)} {"wait": milliseconds}
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const input = JSON.parse(fs.readFileSync(0, 'utf8'));
const executablePath = process.env.KORVANTE_CHROMIUM || '/usr/bin/chromium';
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'korvante-chromium-'));
const out = { results: [], dialogs: [], opened: [], blocked: [], consoleErrors: [], pageErrors: [] };

let context;
try {
    context = await chromium.launchPersistentContext(profile, {
        executablePath,
        headless: true,
        viewport: input.viewport || { width: 1280, height: 900 },
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    await context.route(/^https?:/, async (route) => {
        const url = route.request().url();
        if (url.startsWith('https://api.whatsapp.com/')) {
            out.opened.push(url);
            await route.fulfill({ status: 200, contentType: 'text/html', body: '<html><body>chat</body></html>' });
        } else {
            out.blocked.push(url);
            await route.abort();
        }
    });
    const page = context.pages()[0] || await context.newPage();
    page.on('dialog', async (d) => { out.dialogs.push({ type: d.type(), message: d.message() }); await d.accept(); });
    page.on('console', (m) => { if (m.type() === 'error') out.consoleErrors.push(m.text()); });
    page.on('pageerror', (e) => out.pageErrors.push(String(e && e.message ? e.message : e)));
    context.on('page', (p) => { if (p !== page) p.on('pageerror', (e) => out.pageErrors.push(String(e))); });

    await page.goto(pathToFileURL(input.page).href, { waitUntil: 'load' });
    for (const step of input.steps || []) {
        let result = null;
        try {
            if ('click' in step) await page.click(step.click, { timeout: 5000 });
            else if ('type' in step) await page.locator(step.type[0]).pressSequentially(step.type[1]);
            else if ('press' in step) await page.press(step.press[0], step.press[1]);
            else if ('blur' in step) await page.locator(step.blur).blur();
            else if ('text' in step) result = await page.locator(step.text).textContent();
            else if ('html' in step) result = await page.locator(step.html).innerHTML();
            else if ('value' in step) result = await page.locator(step.value).inputValue();
            else if ('visible' in step) result = await page.locator(step.visible).isVisible();
            else if ('eval' in step) result = await page.evaluate(step.eval);
            else if ('screenshot' in step) {
                const target = step.selector ? page.locator(step.selector) : page;
                await target.screenshot({ path: step.screenshot });
            } else if ('wait' in step) await page.waitForTimeout(step.wait);
        } catch (e) {
            result = { error: String(e && e.message ? e.message : e).split('\n')[0] };
        }
        out.results.push(result);
    }
    // Give a window opened by the last click the time to ask for its address.
    await page.waitForTimeout(300);
} catch (e) {
    out.failure = String(e && e.stack ? e.stack : e);
} finally {
    if (context) await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
}
process.stdout.write(JSON.stringify(out));
