#pragma once
// Calling the application's main method and shutting the VM down.
namespace kanne {

class Launcher;

// Calls the main class's static main(String[]) with the arguments on this
// thread and detaches it afterwards. True when main ran and returned
// normally; an exception out of main is described and counts as failure.
bool runMainClass(Launcher& launcher);

// Destroys the VM, which waits for the application's non-daemon threads.
void destroyVm(Launcher& launcher);

} // namespace kanne
