#pragma once
// jet_complex_column.hpp - fills jet_column::complex for a table's complex columns (ACE 12+).
// MSysComplexColumns gives, per ComplexID, the owning table (ConceptualTableID), the hidden
// flat table holding the items (FlatTableID) and the type table (ComplexTypeObjectID), all
// MSysObjects ids. The flat table has the type table's columns plus two: a Long holding the
// owning row's key and an auto-number of its own. The type table's columns say the kind:
// one column of a simple type is a multi-value list; Memo, two Texts, OLE, Date and Long
// (FileURL, FileName, FileType, FileData, FileTimeStamp, FileFlags) an attachment; a Memo
// and a Date a version history, whose Memo column carries the name of the column it records.

class jet_database;
struct jet_table_def;

// Throws jet_error 3049 naming the table when the catalogue misses a table the column needs.
void jet_read_complex_columns(const jet_database& database, jet_table_def& definition);
