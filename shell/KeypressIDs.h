// The device key codes by key number, which the canvas layers map to game actions and key statics.
#pragma once

// The device key code of a key number, or -1 for a number without one (the code of "up" is -1 too).
int expectedKeypressID(int keyNumber);
