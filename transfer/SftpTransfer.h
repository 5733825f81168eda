#pragma once
#include "ProgressSink.h"
#include "RemoteRequest.h"
int SftpTransfer(const RemoteRequest& request, ProgressSink& progress);
