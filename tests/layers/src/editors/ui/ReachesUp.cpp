#include "daq/ui/AcquisitionCommands.h"
#include "shell/frmMain.h"
