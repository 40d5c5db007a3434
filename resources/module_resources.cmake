# The panel images go into the ORV_Q12 module itself: on Windows as resources compiled from
# orv_q12.rc; on Linux as the byte arrays of orv_resources, whose table the linker is told to keep
# even while no code of the module looks an image up yet.
if(WIN32)
  orv_add_png_resources(ORV_Q12)
else()
  target_link_libraries(ORV_Q12 PRIVATE orv_resources)
  target_link_options(ORV_Q12 PRIVATE "LINKER:--undefined=kEmbeddedResources")
endif()
