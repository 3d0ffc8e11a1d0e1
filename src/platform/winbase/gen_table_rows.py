"""The array body both table generators print: code-point pairs, four to a line."""


def print_pairs(type_name, array_name, pairs):
    print(f"const {type_name} {array_name}[{len(pairs)}] = {{")
    row = []
    for first, second in pairs:
        row.append(f"{{0x{first:04X}, 0x{second:04X}}}")
        if len(row) == 4:
            print("    " + ", ".join(row) + ",")
            row = []
    if row:
        print("    " + ", ".join(row) + ",")
    print("};")
    print(f"const std::size_t {array_name}_SIZE = {len(pairs)};")
