#pragma once

struct CommandContext;

// Builds the view text of the ticked regions and shows it in the code view window.
void ViewHexCode(CommandContext& context);
