#pragma once

struct CommandContext;

// Opens the selected port and reads the bootloader's version into the status bar.
void ConnectToPIC(CommandContext& context);
// Resets the device so that its application runs.
void RunPIC(CommandContext& context);
