#pragma once

struct CommandContext;

// Writes Flash.hx and EEPROM.hx, as ticked, into the device.
void ProgramPIC(CommandContext& context);
