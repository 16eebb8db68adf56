// The look every prompt of the title and result screens shares.
#pragma once

constexpr int PROMPT_HEIGHT = 22;
constexpr int PROMPT_GREY = 250; // red, green and blue alike
