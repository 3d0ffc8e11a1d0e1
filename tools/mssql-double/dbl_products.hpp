#pragma once
// dbl_products.hpp - the SQL Server releases the double can claim to be (--product-version):
// the @@VERSION text each gives; PRELOGIN, LOGINACK and SERVERPROPERTY read their numbers
// from that text (dbl_server), so --version-string=TEXT claims any other.

#include <string>

// The @@VERSION text of "2008" (2008 R2, 10.50), "2012", "2019" or "2022"; empty for others.
std::string dbl_product_version_text(const std::string& product);
