// The program state's definitions, beside its header, so that the entry file and the routines
// both depend on this folder and neither on the other.
#include "state/program_state.h"

signed char key = 0;
signed char key_num = 0;
int g_val1 = 0;
int g_val2 = 0;
int g_val3 = 0;
int g_val4 = 0;
int rwsize = 0;
HBITMAP hBit = NULL;
HANDLE h = NULL;
FILE *fr = NULL;
