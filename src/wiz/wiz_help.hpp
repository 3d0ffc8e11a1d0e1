// wiz_help.hpp - the wizard's help: HTML pages in a folder beside the program, named as the
// program with ".help" in place of its extension (vantrelwiz.help/), one page per context
// id, shown in one help window. A missing folder is reported as a missing help file.
#pragma once

#include <QString>

// The page of a context id ("index.html" for none or an unknown id).
QString wiz_help_page(int topic_id);
// The help folder of the running program, PROGRAM.help: beside it in the build folder, under
// PREFIX/share/vantrel when installed (tk_resource_dir).
QString wiz_help_folder();
// Opens (or raises) the help window at the topic; the missing-file message when the help
// is not installed.
void wiz_show_help(int topic_id);
