// The maker's model B (shown as Pello): model A with exposure steps 1 to 15 sent so as to suit
// the camera's automatic exposure, superseded and repeated exposure commands dropped, and the camera's
// exposure polled about once a second so that a change made on the camera reaches the owner window.
#pragma once

#include "camera/VNTWebcamSkeo.h"

class VNTWebcamSkeoPlus : public VNTWebcamSkeo {
public:
    // The camera's exposure register.
    static constexpr BYTE kExposureRegister = 6;

    VNTWebcamSkeoPlus();
    ~VNTWebcamSkeoPlus() override;

    bool setExposure(int value) override;

protected:
    void runCommandSender(HANDLE stopEvent) override;

private:
    // Sends one exposure step, switching automatic exposure off around it when it is on. False when
    // the sender must end.
    bool sendExposure(BYTE value, HANDLE stopEvent);

    // The last exposure mode the sender sent (1: automatic); sender thread only.
    BYTE exposureMode_ = 0;
};
