#pragma once

// Drops every cached platform object (settings store, emulated registry, engine
// profile) so that the next use opens them again under the current environment.
// Tests call it after pointing HOME and the XDG folders at a temporary folder.
void resetPlatformForTests();
