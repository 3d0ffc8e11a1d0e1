/* jet_mdb_index_walk.c - walks one index of an Access file with libmdb's index scan, the
 * independent reader of index pages in the tests: prints, in index order, the value of a
 * column for every entry. libmdb 1.0 leaves a walk after the first leaf page (it takes the
 * previous-page link for the next one, on Access's own files too) and Debian builds it
 * without key tests, so the tests walk indexes of one leaf.
 *   jet_mdb_index_walk FILE TABLE INDEX PRINT_COLUMN
 * Exit status 1 when the file, table or index is not found. */
#include <mdbtools.h>
#include <stdio.h>
#include <string.h>

static MdbIndex *find_index(MdbTableDef *table, const char *name) {
    for (unsigned int idx_no = 0; idx_no < table->num_idxs; ++idx_no) {
        MdbIndex *index = g_ptr_array_index(table->indices, idx_no);
        if (strcmp(index->name, name) == 0) return index;
    }
    return NULL;
}

int main(int argc, char **argv) {
    if (argc != 5) {
        fputs("usage: jet_mdb_index_walk FILE TABLE INDEX PRINT_COLUMN\n", stderr);
        return 2;
    }
    MdbHandle *mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE)) return 1;
    MdbTableDef *table = mdb_read_table_by_name(mdb, argv[2], MDB_TABLE);
    if (!table) return 1;
    mdb_read_columns(table);
    mdb_read_indices(table);
    mdb_rewind_table(table);
    MdbIndex *index = find_index(table, argv[3]);
    if (!index) return 1;
    static char value[MDB_BIND_SIZE];
    int length = 0;
    mdb_bind_column_by_name(table, argv[4], value, &length);
    MdbIndexChain *chain = g_malloc0(sizeof(MdbIndexChain));
    GArray *found = g_array_new(FALSE, FALSE, sizeof(guint32));
    guint32 page = 0;
    guint16 row = 0;
    while (mdb_index_find_next(mdb, index, chain, &page, &row)) {
        guint32 pointer = (page << 8) | row;
        g_array_append_val(found, pointer);
    }
    for (guint pointer_no = 0; pointer_no < found->len; ++pointer_no) {
        guint32 pointer = g_array_index(found, guint32, pointer_no);
        mdb_read_pg(mdb, pointer >> 8);
        mdb_read_row(table, pointer & 0xFF);
        printf("%s\n", value);
    }
    g_array_free(found, TRUE);
    g_free(chain);
    mdb_close(mdb);
    return 0;
}
