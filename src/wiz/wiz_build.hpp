// wiz_build.hpp - puts the wizard together over a converter: the remembered settings, the
// profile named on the command line, the shell with its seven pages in order. Shared by the
// program and the tests, so both drive the same wizard.
#pragma once

#include <QString>

#include <memory>

class vantrel_convertor;
class wizard_shell;

// The window title: "Vantrel 3.3 Wizard".
QString wiz_title();

// `profile` may be null; a profile that cannot be read is reported and the wizard starts
// with the remembered settings.
std::unique_ptr<wizard_shell> wiz_build(vantrel_convertor& converter, const char* profile);
