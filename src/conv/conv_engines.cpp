// conv_engines.cpp - the engines of this build, gathered from the two adapter halves.
#include "conv/conv_engines.hpp"

conv_engines conv_default_engines() {
    return conv_engines{conv_make_access_engine, conv_make_mssql_engine, conv_check_sysdb};
}
