// dbl_products.cpp - @@VERSION as each release writes it: first line "Microsoft SQL Server
// <year> [R2] (<level>) [(KB...)] - <major.minor.build.revision> (X64)", then the build
// date, the copyright and the edition on its platform, lines joined by " \n\t".
#include "dbl_products.hpp"

namespace {

struct product {
    const char* name;
    const char* version_text;
};

// Each the last service pack or the release build, Developer Edition.
const product PRODUCTS[] = {
    {"2008", "Microsoft SQL Server 2008 R2 (SP3) - 10.50.6000.34 (X64) \n"
             "\tAug 19 2014 12:21:34 \n"
             "\tCopyright (c) Microsoft Corporation\n"
             "\tDeveloper Edition (64-bit) on Windows NT 6.1 <X64> (Build 7601: Service Pack 1)\n"},
    {"2012", "Microsoft SQL Server 2012 (SP4) (KB4018073) - 11.0.7001.0 (X64) \n"
             "\tAug 15 2017 10:23:29 \n"
             "\tCopyright (c) Microsoft Corporation\n"
             "\tDeveloper Edition (64-bit) on Windows NT 6.3 <X64> (Build 9600: ) (Hypervisor)\n"},
    {"2019", "Microsoft SQL Server 2019 (RTM) - 15.0.2000.5 (X64) \n"
             "\tSep 24 2019 13:48:23 \n"
             "\tCopyright (C) 2019 Microsoft Corporation\n"
             "\tDeveloper Edition (64-bit) on Linux (Ubuntu 18.04.3 LTS) <X64>"},
    {"2022", "Microsoft SQL Server 2022 (RTM) - 16.0.1000.6 (X64) \n"
             "\tOct  8 2022 05:58:25 \n"
             "\tCopyright (C) 2022 Microsoft Corporation\n"
             "\tDeveloper Edition (64-bit) on Linux (Ubuntu 20.04.5 LTS) <X64>"},
};

}   // namespace

std::string dbl_product_version_text(const std::string& name) {
    for (const product& candidate : PRODUCTS)
        if (name == candidate.name) return candidate.version_text;
    return "";
}
