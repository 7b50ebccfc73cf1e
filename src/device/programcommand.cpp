#include "programcommand.h"

void ProgramPIC(CommandContext&) {}
