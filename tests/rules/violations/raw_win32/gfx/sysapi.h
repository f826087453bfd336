// The system-function table, cut to the entries the planted calls use.
OC_SYSFN("user32", GetWindowRect);
OC_SYSFN("user32", SetPropA);
