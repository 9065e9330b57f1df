#pragma once

// What a conversion should make of a JWW workspace, worked out on the test's side from the
// written rules, so that a real drawing's output can be explained byte by byte: writing the
// expectation "as read" must give exactly the converter's output.

#include <string>

#include "reference/jww_file.h"

namespace penmorph::testing {

// Applies, in place, what the writer does to a remapped workspace: reserved items zeroed, the
// limited and settings values, entity attribute checks, cleaned names and texts, block numbers,
// and only the images that texts refer to.
void ApplyJwwWriteRules(jw::JwwWorkspace& workspace);

// The entity-level part of the rules, shared with JWS.
void ApplyEntityWriteRules(int version, jw::EntityTables& tables);
void ApplyBlockDefWriteRules(int version, std::vector<jw::WorkspaceBlockDef>& defs);

// "" when equal; else where the two byte strings first differ, with some context.
std::string FirstDifference(const std::string& expected, const std::string& actual);

}  // namespace penmorph::testing
