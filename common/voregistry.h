// voregistry.h - one open registry key with reading that fills in defaults.
#pragma once
