#pragma once
// daostub_types.hpp - the numbers DAO gives its callers by name: field types (Field.Type),
// the field attribute a new AutoNumber takes, and the relation attribute of a relationship
// Access does not enforce. Their values are DAO's, so stored files and callers agree.

enum DataTypeEnum {
    dbBoolean = 1,
    dbByte = 2,
    dbInteger = 3,
    dbLong = 4,
    dbCurrency = 5,
    dbSingle = 6,
    dbDouble = 7,
    dbDate = 8,
    dbBinary = 9,
    dbText = 10,
    dbLongBinary = 11,
    dbMemo = 12,
    dbGUID = 15,
    dbBigInt = 16,
    dbDecimal = 20,
    dbAttachment = 101,
    dbComplexByte = 102,
    dbComplexInteger = 103,
    dbComplexLong = 104,
    dbComplexSingle = 105,
    dbComplexDouble = 106,
    dbComplexGUID = 107,
    dbComplexDecimal = 108,
    dbComplexText = 109,
};

enum FieldAttributeEnum { dbAutoIncrField = 0x10 };

enum RelationAttributeEnum {
    dbRelationDontEnforce = 0x2,
    dbRelationUpdateCascade = 0x100,
    dbRelationDeleteCascade = 0x1000
};
