// Prints the items of every complex column of an Access file as the independent readers see
// them, for the complex-column tests to compare with the child tables a conversion made:
//   node complex_items.mjs FILE KEY_COLUMN
// mdb-reader reads MSysComplexColumns, the catalogue and the hidden item tables; mdbtools'
// mdb-export gives each owning row's raw key into them (mdb-reader refuses to read the complex
// columns of some files). Attachment data is unwrapped and inflated here with node's zlib
// (layout documented by Jackcess: kind, length, then a content header before the file).
// Output, per complex column: a line [items "table" "column" kind], then one line per item:
// the owning row's KEY_COLUMN value and the item's values, tab-separated, each "NULL" or "="
// followed by the value (dates YYYY-MM-DD HH:MM:SS, binary 0x and lower-case hex).
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { inflateSync } from "node:zlib";

const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(join(here, "..", "tools", "package.json"));
const MDBReader = (await import(require.resolve("mdb-reader"))).default;

const [file, keyColumn] = process.argv.slice(2);
const reader = new MDBReader(readFileSync(file));

const pad = (number, width) => String(number).padStart(width, "0");
function canonical(value) {
    if (value === null || value === undefined) return "NULL";
    if (value instanceof Date) {
        const d = new Date(Math.round(value.getTime() / 1000) * 1000);
        return `=${pad(d.getUTCFullYear(), 4)}-${pad(d.getUTCMonth() + 1, 2)}-` +
            `${pad(d.getUTCDate(), 2)} ${pad(d.getUTCHours(), 2)}:${pad(d.getUTCMinutes(), 2)}:` +
            `${pad(d.getUTCSeconds(), 2)}`;
    }
    if (Buffer.isBuffer(value) || value instanceof Uint8Array)
        return "=0x" + Buffer.from(value).toString("hex");
    return "=" + String(value);
}

function decodeAttachment(stored) {
    const kind = stored.readUInt32LE(0);
    const length = stored.readUInt32LE(4);
    const content = kind === 1 ? inflateSync(stored.subarray(8)) : stored.subarray(8, 8 + length);
    return content.subarray(content.readUInt32LE(0), length);
}

// mdb-export's CSV: quoted text with doubled quotes, numbers bare, one row per record.
function parseCsv(text) {
    const rows = [];
    let row = [], field = "", quoted = false;
    for (let at = 0; at < text.length; ++at) {
        const ch = text[at];
        if (quoted) {
            if (ch === '"' && text[at + 1] === '"') { field += '"'; ++at; }
            else if (ch === '"') quoted = false;
            else field += ch;
        } else if (ch === '"') quoted = true;
        else if (ch === ",") { row.push(field); field = ""; }
        else if (ch === "\n") { row.push(field); rows.push(row); row = []; field = ""; }
        else field += ch;
    }
    return rows;
}

const objects = reader.getTable("MSysObjects").getData({ columns: ["Id", "Name"] });
const nameOf = (id) => objects.find((object) => object.Id === id)?.Name;
const complexColumns = reader.getTable("MSysComplexColumns").getData();

for (const tableName of reader.getTableNames()) {
    const tableId = objects.find((object) => object.Name === tableName)?.Id;
    const mine = complexColumns.filter((entry) => entry.ConceptualTableID === tableId);
    if (mine.length === 0) continue;
    const exported = parseCsv(execFileSync("mdb-export", [file, tableName]).toString("utf8"));
    const header = exported[0];
    for (const entry of mine) {
        const typeTable = reader.getTable(nameOf(entry.ComplexTypeObjectID));
        const typeColumns = typeTable.getColumns();
        const flat = reader.getTable(nameOf(entry.FlatTableID));
        const extra = flat.getColumns().filter((c) => !typeColumns.some((t) => t.name === c.name));
        const ownerKey = extra.find((c) => c.type === "long" && !c.autoLong).name;
        let kind, itemColumns, column = entry.ColumnName;
        if (typeColumns.length === 1) {
            kind = "multi_value";
            itemColumns = [typeColumns[0].name];
        } else if (typeColumns.some((c) => c.name === "FileData")) {
            kind = "attachment";
            itemColumns = ["FileName", "FileType", "FileTimeStamp", "FileData"];
        } else {
            kind = "version_history";
            const memo = typeColumns.find((c) => c.type === "memo").name;
            itemColumns = [memo, typeColumns.find((c) => c.type === "datetime").name];
            column = memo;
        }
        console.log(`[items "${tableName}" "${column}" ${kind}]`);
        const items = flat.getData();
        for (const row of exported.slice(1)) {
            const rawKey = Number(row[header.indexOf(entry.ColumnName)]);
            const key = row[header.indexOf(keyColumn)];
            for (const item of items.filter((candidate) => candidate[ownerKey] === rawKey)) {
                const values = itemColumns.map((name) => name === "FileData" && item[name]
                    ? decodeAttachment(Buffer.from(item[name])) : item[name]);
                console.log([canonical(key), ...values.map(canonical)].join("\t"));
            }
        }
    }
}
