#pragma once
// The console's command flows, run on the dialog's thread for a button click.
// Each reads the dialog through `host`, prepares local files, hands one
// remote operation at a time to the dispatcher and reports the outcome in a
// message box.
#include "CommandHost.h"
#include "CommandState.h"

// Browse (1002): choose the update file.
void OnBrowse(CommandHost& host, CommandState& state);
// Apply upgrade (1000): "shutdown.txt", then the update file, to the remote root.
void OnApplyUpgrade(CommandHost& host, CommandState& state);
// Create system (1006): the system file set and the eight PLC slot directories.
void OnCreateSystem(CommandHost& host, CommandState& state);
// Upgrade PLC n# (slot 1..8): the update file into that slot's directory.
void OnUpgradePlc(CommandHost& host, CommandState& state, int slot);
// Restart host (1018): "reboot.txt" to the remote root.
void OnRestartHost(CommandHost& host, CommandState& state);
// Set new IP address (1020): userinfo files, then "userinfo.txt" to the target.
void OnSetNewIpAddress(CommandHost& host, CommandState& state);

// The PLC slot (1..8) of an Upgrade PLC button, 0 for any other control.
int PlcSlotForButton(int controlId);
// The button of PLC slot 1..8, 0 for any other slot.
int PlcButtonForSlot(int slot);
