// The password box's update channel: windows subscribe to event numbers and
// receive the registered update message when one is published. One per process.
#pragma once
#include <windows.h>

#include <map>
#include <vector>

class CPwdUpdateChannel {
public:
    static CPwdUpdateChannel& Instance();

    // A window is listed at most once per event.
    void Subscribe(int event, HWND window);
    void Unsubscribe(int event, HWND window);
    void UnsubscribeAll(HWND window);
    // Sends (or posts) the update message to every subscriber of the event
    // that is still a window. Returns how many were reached.
    int Publish(int event, WPARAM wp, LPARAM lp, bool post = false);
    size_t SubscriberCount(int event) const;

private:
    std::map<int, std::vector<HWND>> subscribers_;
};

// Hands every record the store changed to event 1 of the channel.
void ConnectStoreToUpdateChannel();
