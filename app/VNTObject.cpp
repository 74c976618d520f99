#include "app/VNTObject.h"

void VNTObject::onNotification(void*, const std::wstring&) {}
