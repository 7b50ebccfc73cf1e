#pragma once

struct CommandContext;

// Deletes the converted code files and returns the window to the import-only state.
void ClearImportedCode(CommandContext& context);
