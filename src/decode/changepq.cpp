#include "decode/changepq.h"
