#pragma once
// dao.hpp - the whole DAO stand-in in one include: creation (CoGetClassObject,
// IClassFactory2), DBEngine, Workspace, Errors, Database, TableDefs, QueryDef, Recordset,
// Fields, Indexes. Every failing call returns 0x800A0000 | the DAO error number and leaves
// the error as Errors.Item(0).

#include "platform/dao/daostub_database.hpp"
#include "platform/dao/daostub_engine.hpp"
#include "platform/dao/daostub_errors.hpp"
#include "platform/dao/daostub_factory.hpp"
#include "platform/dao/daostub_field.hpp"
#include "platform/dao/daostub_index.hpp"
#include "platform/dao/daostub_recordset.hpp"
#include "platform/dao/daostub_tabledef.hpp"
#include "platform/dao/daostub_types.hpp"
