#pragma once

// The private sound server under its former name, for the full-stack tests
// that still include this header.
#include "support/PrivatePulseSession.h"

using PrivatePulseServer = PrivatePulseSession;
