#pragma once
// The product's entry in the system's list of installed programs.
#include <string>

// Today's local date as yyyymmdd.
std::string DateStamp();

// Opens (creating it when missing) HKLM\UninstallRoot+ProductId on the shared registry object
// and writes the entry's values in order. Leaves the key open. Raises ERegistryError at the
// first write the registry refuses; the values before it stay.
void WriteUninstallEntry();
