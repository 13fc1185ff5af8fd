// Closes the array of delay-import descriptors. Each delay-import library
// puts its descriptor in section .text$2; the linker orders the sections of
// .text by name, so this zero descriptor follows the last of them.
extern "C" __attribute__((section(".text$3"), used, aligned(4))) const unsigned char delayImportEnd[32] = {};
