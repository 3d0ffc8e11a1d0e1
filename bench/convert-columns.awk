# bench/convert-columns.awk - turns vantreldump --schema-only lines into vantrelmake's
# --column and --index options, one a line, so bench/convert can cut a bench table to its first
# rows with the same columns and keys. Covers the plain types of the bench files; names are
# taken as printed (quoted, no quotes inside).
#   column "NAME" type=DAO-TYPE size=BYTES attributes=0xHEX required=0|1 ...
#   index "NAME" primary=0|1 unique=0|1 ... columns="A","B-"
BEGIN {
    type_name[1] = "yesno"; type_name[2] = "byte"; type_name[3] = "integer"
    type_name[4] = "long"; type_name[5] = "currency"; type_name[6] = "single"
    type_name[7] = "double"; type_name[8] = "datetime"; type_name[10] = "text"
    type_name[12] = "memo"; type_name[15] = "guid"
}
function field(name,    at) {   # the value of name=VALUE on this line
    at = index($0, " " name "=")
    if (at == 0) return ""
    value = substr($0, at + length(name) + 2)
    sub(/ .*/, "", value)
    return value
}
function unquoted(text) { gsub(/"/, "", text); return text }
function hex(text,    number, digit_idx) {   # mawk has no strtonum
    number = 0
    text = tolower(substr(text, 3))
    for (digit_idx = 1; digit_idx <= length(text); ++digit_idx)
        number = number * 16 + index("0123456789abcdef", substr(text, digit_idx, 1)) - 1
    return number
}
$1 == "column" {
    code = field("type")
    if (!(code in type_name)) { print "bench/convert: column type " code > "/dev/stderr"; exit 1 }
    option = "--column=" unquoted($2) ":" type_name[code]
    if (code == 10) option = option ":" field("size")
    if (field("required") == 1) option = option ":required"
    # DAO's dbAutoIncrField attribute
    if (int(hex(field("attributes")) / 16) % 2 == 1) option = option ":autonumber"
    print option
}
$1 == "index" && field("foreign") != 1 {
    option = "--index=" unquoted($2) ":" unquoted(field("columns"))
    if (field("primary") == 1) option = option ":primary"
    else if (field("unique") == 1) option = option ":unique"
    print option
}
