# The panel images go into the ORV_Q12 module itself: Windows resources compiled from
# orv_q12.rc, or on Linux the byte arrays of orv_resources (also reached through orv_raster).
if(WIN32)
  orv_add_png_resources(ORV_Q12)
else()
  target_link_libraries(ORV_Q12 PRIVATE orv_resources)
endif()
