// The shapley/inclusiveness command.
#pragma once

void MENUE_SHAPLEY();
