// Expected results of the Access-SQL checks in jet_sql_access_test.cpp, computed here from
// mdb-reader's reading of the same tables (never from our engine), in vantreldump's CSV forms:
//   node jet_sql_oracle.mjs NWIND_FILE
// prints for each check a line "[check NAME]" and then its rows, one per line.
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(join(here, "..", "..", "tools", "package.json"));
const MDBReader = (await import(require.resolve("mdb-reader"))).default;

const reader = new MDBReader(readFileSync(process.argv[2]));
const rows = (name) => reader.getTable(name).getData();
const quote = (text) => '"' + String(text).replaceAll('"', '""') + '"';
const pad = (number, width) => String(number).padStart(width, "0");
const MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
    "September", "October", "November", "December"];
const DAYS = ["Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"];

// mdb-reader gives an Access date as the UTC instant of its wall-clock time.
const dayNumber = (date) => Math.floor(date.getTime() / 86400000);
const fromDays = (days) => new Date(days * 86400000);
const dateText = (date) => `${pad(date.getUTCFullYear(), 4)}-${pad(date.getUTCMonth() + 1, 2)}-` +
    `${pad(date.getUTCDate(), 2)} ${pad(date.getUTCHours(), 2)}:${pad(date.getUTCMinutes(), 2)}:` +
    `${pad(date.getUTCSeconds(), 2)}`;
const weekday = (date) => date.getUTCDay() + 1;   // Sunday 1
const dayOfYear = (date) =>
    dayNumber(date) - dayNumber(new Date(Date.UTC(date.getUTCFullYear(), 0, 1))) + 1;
const weekOfYear = (date) => {
    const first = new Date(Date.UTC(date.getUTCFullYear(), 0, 1));
    return Math.floor((dayNumber(date) - (dayNumber(first) - first.getUTCDay())) / 7) + 1;
};
const monthIndex = (date) => date.getUTCFullYear() * 12 + date.getUTCMonth();
const addMonths = (date, count) => {
    const target = monthIndex(date) + count;
    const year = Math.floor(target / 12), month = target % 12;
    const last = new Date(Date.UTC(year, month + 1, 0)).getUTCDate();
    return new Date(Date.UTC(year, month, Math.min(date.getUTCDate(), last),
        date.getUTCHours(), date.getUTCMinutes(), date.getUTCSeconds()));
};
// Currency arrives as text or number; its exact value in ten-thousandths.
const currencyUnits = (value) => Math.round(Number(value) * 10000);
// Half to even, as VBA's CInt.
const bankers = (units, scale) => {
    const whole = Math.floor(units / scale), rest = units - whole * scale;
    if (rest * 2 > scale || (rest * 2 === scale && whole % 2 !== 0)) return whole + 1;
    return whole;
};
const grouped = (units) => {   // ten-thousandths to "#,##0.00", half away from zero
    const cents = Math.round(Math.abs(units) / 100);
    const whole = String(Math.floor(cents / 100)).replace(/\B(?=(\d{3})+(?!\d))/g, ",");
    return (units < 0 ? "-" : "") + whole + "." + pad(cents % 100, 2);
};

const checks = {};

{
    const cities = [...rows("Customers"), ...rows("Employees")].map((row) => row.City);
    checks.union_all_count = [String(cities.length)];
    const seen = new Map();
    for (const city of cities)
        if (city !== null && !seen.has(city.toLowerCase())) seen.set(city.toLowerCase(), city);
    checks.union_cities = [...seen.values()].map(quote).sort();
    if (cities.includes(null)) checks.union_cities.push("");
}

{
    const sums = new Map();
    for (const row of rows("Order Details"))
        sums.set(row.OrderID, (sums.get(row.OrderID) ?? 0) + row.Quantity);
    checks.sum_quantity = [...sums].sort((a, b) => a[0] - b[0]).map(([id, sum]) => `${id},${sum}`);
}

checks.text_functions = rows("Customers").sort((a, b) => (a.CustomerID < b.CustomerID ? -1 : 1))
    .map((row) => [quote(row.CustomerID),
        row.CompanyName.toLowerCase().indexOf("a") + 1,
        quote(row.CompanyName.substring(1, 4)),
        quote(row.ContactName.substring(0, 4)),
        row.Phone === null ? "" : quote(row.Phone.slice(-4)),
        row.Address.length,
        quote(row.City.toUpperCase()),
        quote(row.Country.toLowerCase()),
        quote(row.City.replace(/^ +| +$/g, ""))].join(","));   // VBA trims spaces only

checks.date_functions = rows("Orders").sort((a, b) => a.OrderID - b.OrderID).map((row) => {
    const ordered = row.OrderDate, shipped = row.ShippedDate, required = row.RequiredDate;
    return [row.OrderID, ordered.getUTCFullYear(), ordered.getUTCMonth() + 1,
        ordered.getUTCDate(), Math.floor(ordered.getUTCMonth() / 3) + 1, dayOfYear(ordered),
        weekday(ordered), weekOfYear(ordered),
        shipped === null ? "" : dayNumber(shipped) - dayNumber(ordered),
        monthIndex(required) - monthIndex(ordered),
        quote(`${ordered.getUTCFullYear()}-${pad(ordered.getUTCMonth() + 1, 2)}-` +
            pad(ordered.getUTCDate(), 2)),
        quote(`${DAYS[ordered.getUTCDay()]}, ${MONTHS[ordered.getUTCMonth()]} ` +
            `${ordered.getUTCDate()}, ${ordered.getUTCFullYear()}`),
        dateText(addMonths(ordered, 1)),
        dateText(new Date(Date.UTC(ordered.getUTCFullYear(), ordered.getUTCMonth() + 1, 0))),
        dateText(fromDays(dayNumber(ordered) + 30)),
        quote(`${pad(ordered.getUTCDate(), 2)}-${MONTHS[ordered.getUTCMonth()].slice(0, 3)}-` +
            pad(ordered.getUTCFullYear() % 100, 2))].join(",");
});

checks.choices = rows("Products").sort((a, b) => a.ProductID - b.ProductID).map((row) => {
    const units = currencyUnits(row.UnitPrice);
    const band = units < 100000 ? "cheap" : units < 500000 ? "middle" : "dear";
    const category = ["one", "two", "three"][row.CategoryID - 1];
    return [row.ProductID, quote(band), category === undefined ? "" : quote(category),
        row.QuantityPerUnit === null ? 1 : 0, bankers(units, 10000),
        quote(String(row.UnitsInStock)), quote(grouped(units)),
        quote("$" + grouped(units * row.UnitsInStock))].join(",");
});

{
    const products = rows("Products");
    checks.saved_current_products = products.filter((row) => !row.Discontinued)
        .map((row) => `${row.ProductID},${quote(row.ProductName)}`).sort();
    checks.saved_ten_most_expensive = products
        .sort((a, b) => currencyUnits(b.UnitPrice) - currencyUnits(a.UnitPrice)).slice(0, 10)
        .map((row) => `${quote(row.ProductName)},${String(row.UnitPrice)}`);
    const detailed = new Set(rows("Order Details").map((row) => row.OrderID));
    checks.saved_shipped_orders = [String(rows("Orders")
        .filter((row) => row.ShippedDate !== null && detailed.has(row.OrderID)).length)];
}

for (const [name, lines] of Object.entries(checks)) {
    console.log(`[check ${name}]`);
    for (const line of lines) console.log(line);
}
