#pragma once

#include "framework/Parameter.h"

#include <functional>
#include <vector>

/** Records every call it hears, with the value the parameter held at that moment. */
struct RecordingListener : public Parameter::Listener
{
    explicit RecordingListener (std::vector<RecordingListener*>* callOrder = nullptr) : order (callOrder) {}

    void parameterChanged (Parameter* p) override
    {
        values.push_back (p->getValue());
        if (order != nullptr)
            order->push_back (this);
        if (onChange)
            onChange (p);
    }

    void parameterChangeGestureBegin (Parameter*) override { ++gestureBegins; }
    void parameterChangeGestureEnd (Parameter*) override { ++gestureEnds; }

    int numChanges() const { return static_cast<int> (values.size()); }

    std::vector<float> values;
    int gestureBegins = 0;
    int gestureEnds = 0;
    std::vector<RecordingListener*>* order = nullptr;
    std::function<void (Parameter*)> onChange;
};

/** Delivers the parameter's pending asynchronous notification now, on this (the message) thread. */
inline void drainAsync (Parameter& parameter)
{
    parameter.handleUpdateNowIfNeeded();
}
