#pragma once

struct CommandContext;

// The import command: asks for an Intel HEX file and splits it into the converted code files.
void ImportHexFile(CommandContext& context);
