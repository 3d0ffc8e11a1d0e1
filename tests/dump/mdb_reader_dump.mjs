// Prints the rows of every table of an Access file as read by mdb-reader, in vantreldump's
// normalised CSV form (see platform/jet/jet_value_text.hpp), so tests can compare the two:
//   node mdb_reader_dump.mjs [--schema|--tables] FILE [TABLE...]
// Each table: a line [table "Name"], a header line of quoted column names, one line per row.
// --schema prints, instead of rows, one line per column:
//   "name" type size fixed nullable auto_long auto_guid precision scale
// --tables prints the user table names, one per line.
// A table mdb-reader cannot read prints "error <message>" instead of its rows.
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(join(here, "..", "tools", "package.json"));
const MDBReader = (await import(require.resolve("mdb-reader"))).default;

const quote = (text) => '"' + text.replaceAll('"', '""') + '"';

function pad(number, width) {
    return String(number).padStart(width, "0");
}

function dateText(date) {
    const ms = date.getTime();
    const rounded = new Date(Math.round(ms / 1000) * 1000);
    return `${pad(rounded.getUTCFullYear(), 4)}-${pad(rounded.getUTCMonth() + 1, 2)}-` +
        `${pad(rounded.getUTCDate(), 2)} ${pad(rounded.getUTCHours(), 2)}:` +
        `${pad(rounded.getUTCMinutes(), 2)}:${pad(rounded.getUTCSeconds(), 2)}`;
}

// The shortest decimal that reads back to the same Single, as the engine prints it.
function singleText(value) {
    for (let digits = 1; digits <= 9; ++digits) {
        const candidate = Number(value.toPrecision(digits));
        if (Math.fround(candidate) === value) return String(candidate);
    }
    return String(value);
}

function valueText(value, type) {
    if (value === null || value === undefined) return "";
    switch (type) {
    case "boolean": return value ? "1" : "0";
    case "text":
    case "memo": return quote(String(value));
    case "datetime": return dateText(value);
    case "repid": return "{" + String(value).toUpperCase() + "}";
    case "binary":
    case "ole": return "0x" + Buffer.from(value).toString("hex");
    case "currency":
    case "numeric":
    case "bigint":
    case "byte":
    case "integer":
    case "long":
    case "double": return String(value);
    case "float": return singleText(value);
    case "datetimextended": {   // "YYYY.MM.DD HH:MM:SS.nnnnnnnnn" -> 100 ns ticks
        const match = /^(\d+)\.(\d+)\.(\d+) (\d+:\d+:\d+)\.(\d{7})\d*$/.exec(value);
        if (!match) return quote(String(value));
        return `${match[1]}-${match[2]}-${match[3]} ${match[4]}.${match[5]}`;
    }
    default: return quote(String(value));
    }
}

const args = process.argv.slice(2);
const mode = args[0] === "--schema" || args[0] === "--tables" ? args.shift() : "--rows";
const [file, ...only] = args;
const reader = new MDBReader(readFileSync(file));
const names = only.length > 0 ? only : reader.getTableNames();
if (mode === "--tables") {
    for (const name of names) console.log(name);
    process.exit(0);
}
const flag = (value) => (value ? 1 : 0);
for (const name of names) {
    console.log(`[table ${quote(name)}]`);
    let table, rows;
    try {
        table = reader.getTable(name);
        if (mode === "--schema") {
            for (const column of table.getColumns()) {
                console.log([quote(column.name), column.type, column.size,
                    flag(column.fixedLength), flag(column.nullable), flag(column.autoLong),
                    flag(column.autoUUID), column.precision ?? 0, column.scale ?? 0].join(" "));
            }
            continue;
        }
        rows = table.getData();
    } catch (error) {
        console.log(`error ${error.message}`);
        continue;
    }
    const columns = table.getColumns();
    console.log(columns.map((column) => quote(column.name)).join(","));
    for (const row of rows) {
        let line;
        try {
            line = columns.map((column) => valueText(row[column.name], column.type)).join(",");
        } catch (error) {
            line = `error ${error.message}`;
        }
        console.log(line);
    }
}
