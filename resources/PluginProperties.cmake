# The plug-in property list of Quorvane.aip: what the host reads from the module's resources
# before it runs any of the module's code. It says what kind of plug-in this is, which plug-in
# interface it was written for, which export to call and what the plug-in is called.
#
# This file is the only place the list is written down. At build time
# RenderPluginProperties.cmake turns it into the bytes of the "PIPL" resource; the tests in
# tests/resources read that resource back through the Windows loader.
#
# PIPL_PROPERTIES holds one property per line, in the order the host sees them:
#   <key> <type> <value>
# where <key> is a four-character code and <type> one of
#   code    a four-character code, stored as a 32-bit little-endian integer
#   int32   a 32-bit little-endian integer
#   text    ASCII text, zero-terminated, then padded with zeros to a multiple of 4 bytes

set(PIPL_RESOURCE_ID 16000)

# Owner of every property key below.
set(PIPL_VENDOR ADBE)

set(PIPL_PROPERTIES
    kind code SPEA          # a plug-in of the host's suite-based interface
    ivrs int32 2            # version of that interface
    wx86 text PluginMain    # the exported entry point on 64-bit Windows
    pinm text Quorvane      # the plug-in's name, the same one the plug-in object gives itself
)
