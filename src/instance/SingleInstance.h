#pragma once
// Single-instance mode: the first start of an executable runs the
// application; later starts hand their arguments to it and end.
#include "instance/InstanceBlock.h"
#include "platform/Handle.h"

#include <string>
#include <vector>

namespace kanne {

class Launcher;

class SingleInstanceChannel {
public:
    SingleInstanceChannel() = default;
    SingleInstanceChannel(const SingleInstanceChannel&) = delete;
    SingleInstanceChannel& operator=(const SingleInstanceChannel&) = delete;
    ~SingleInstanceChannel() { close(); }

    // Reads "Application Type" and "Single Instance" and settles this
    // process's role in `launcher` (singleInstance, isFirstInstance). A later
    // start hands its arguments over here. False ends the launch with -1.
    bool setUp(Launcher& launcher);

    // The VM exists: starts held so far are delivered, in arrival order.
    void vmCreated();
    // The VM is gone: no worker attaches any more, and later starts are refused.
    void vmDestroyed();
    // Stops the listener and releases the block.
    void close();

private:
    enum class VmState { Pending, Running, Gone };
    struct Delivery;

    bool startListening(const std::string& name);
    bool handOver(const StringList& arguments, const std::string& name);
    static DWORD WINAPI listenerThreadProc(void* channel);
    void runListener();
    void deliver(std::vector<StringList> lists);
    static DWORD WINAPI workerThreadProc(void* delivery);

    Launcher* launcher_ = nullptr;
    KernelHandle senderLock_;    // held by one later start from writing the area until taken or refused
    KernelHandle takenEvent_;    // the listener copied the area and will deliver it
    KernelHandle refusedEvent_;  // the listener copied the area but cannot deliver it
    KernelHandle instanceMapping_;
    MappedView view_;
    InstanceBlock* instanceBlock_ = nullptr;
    KernelHandle listenerThread_;
    DWORD listenerThreadId_ = 0;
    std::uint32_t messageId_ = 0;

    CriticalSection vmLock_;
    VmState vmState_ = VmState::Pending; // guarded by vmLock_
    std::vector<StringList> held_;       // listener thread only
};

} // namespace kanne
