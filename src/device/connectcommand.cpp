#include "connectcommand.h"

void ConnectToPIC(CommandContext&) {}
void RunPIC(CommandContext&) {}
