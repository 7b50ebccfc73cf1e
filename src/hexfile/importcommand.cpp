#include "importcommand.h"

void ImportHexFile(CommandContext&) {}
