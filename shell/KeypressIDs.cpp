#include "shell/KeypressIDs.h"

int expectedKeypressID(int keyNumber) {
    if (keyNumber >= 0 && keyNumber <= 9) return '0' + keyNumber;
    switch (keyNumber) {
        case 10:
            return '#';
        case 11:
            return '*';
        case 12:
            return -8;  // delete
        case 14:
            return -236;
        case 15:
            return -237;
        case 16:
            return -3;  // left
        case 17:
            return -4;  // right
        case 18:
            return -1;  // up
        case 19:
            return -2;  // down
        case 20:
            return -5;  // fire
        case 24:
            return -6;  // left soft key
        case 25:
            return -7;  // right soft key
        case 26:
            return -234;
        case 27:
            return -235;
        case 28:
            return -238;
        case 0x10000:
            return 0;
        default:
            return -1;
    }
}
