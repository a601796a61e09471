// The object runtime in one include.
#pragma once

#include "runtime/associations.h"
#include "runtime/bind.h"
#include "runtime/class.h"
#include "runtime/dispatch.h"
#include "runtime/geometry.h"
#include "runtime/hook.h"
#include "runtime/object.h"
#include "runtime/selector.h"
#include "runtime/signature.h"
