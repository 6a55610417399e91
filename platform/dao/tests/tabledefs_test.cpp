#include "platform/dao/tests/DaoTestUtil.h"
