#pragma once
// Creating the Java VM and pointing the standard streams at files.
#include "vm/Jni.h"

#include <string>

namespace kanne {

class Launcher;

// Creates the VM from `vmOptions` (unrecognised options fail it) and applies
// "Output File" and "Error File". On failure the box has been shown.
bool createVm(Launcher& launcher);

// System.setOut / System.setErr (`setter`) with an auto-flushing print stream
// on `fileName`. A failure leaves the stream as it was; its exception is
// described and cleared so that the launch goes on.
bool redirectStream(JNIEnv* env, const std::string& fileName, const char* setter);

} // namespace kanne
