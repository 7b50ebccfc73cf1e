#include "viewcommand.h"

void ViewHexCode(CommandContext&) {}
