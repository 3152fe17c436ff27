#include "base/MessagePrompter.h"

MessagePrompter::~MessagePrompter() = default;
