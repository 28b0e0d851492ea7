#pragma once
#include "platform/Outcome.h"
