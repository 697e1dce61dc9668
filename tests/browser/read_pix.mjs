// Reads "Pix Copia e Cola" codes, one a line on standard input, with an independent BR Code parser
// and prints, as a JSON array, what a banking app would take from each: key, name, city, amount.
import { parsePix } from 'pix-utils';
import fs from 'node:fs';

const codes = fs.readFileSync(0, 'utf8').split('\n').map((l) => l.trim()).filter((l) => l.length > 0);
const out = codes.map((code) => {
    try {
        const pix = parsePix(code);
        if (!pix || pix.error) return { error: String(pix && pix.message ? pix.message : 'not a Pix code') };
        return {
            type: pix.type,
            key: pix.pixKey,
            name: pix.merchantName,
            city: pix.merchantCity,
            amount: pix.transactionAmount === undefined ? null : pix.transactionAmount,
        };
    } catch (e) {
        return { error: String(e && e.message ? e.message : e) };
    }
});
process.stdout.write(JSON.stringify(out));
