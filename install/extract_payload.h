#pragma once
#include <string>

// Writes the payload resource (Type, Name) to Target. With Check, an existing target of a
// versioned kind is replaced only after the incoming file has been compared with it, and
// the user is asked before an older file replaces a newer one. Failures end in the
// "Can't install" box; nothing is reported to the caller.
void ExtractPayloadFile(const std::string& Name, const std::string& Type,
                        const std::string& Target, bool Check);
