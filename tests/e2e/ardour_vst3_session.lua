-- A headless Ardour session with the VST 3 bundle on a track, run by ardour_vst3_test.sh with
-- ardour7-lua: a sine from the dummy backend's input through the plug-in, its seven parameters
-- listed, Volume set to 0 (silence) and back to 5 (sound) while the transport rolls, the session
-- saved, closed and opened again with the plug-in's state. Each check prints a line starting
-- with "check"; the script's last line is "ardour: done".
local folder, class_id = arg[1], arg[2]
local function check(ok, what) print((ok and "check ok: " or "check FAILED: ") .. what) end
local function level(track)
  return track:peak_meter():meter_level(0, ARDOUR.MeterType.MeterPeak)
end

local backend = AudioEngine:set_backend("None (Dummy)", "", "")
backend:set_device_name("Sine Wave")
check(AudioEngine:start(false) == 0, "the dummy backend runs")
check(create_session(folder, "orv", 48000) ~= nil, "a session")

local track = Session:new_audio_track(1, 2, nil, 1, "Guitar", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true, false):front()
track:input():audio(0):connect("system:capture_1")
track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput,
                                     PBD.GroupControlDisposition.NoGroup)
local plugin = ARDOUR.LuaAPI.new_plugin(Session, class_id, ARDOUR.PluginType.VST3, "")
check(not plugin:isnil(), "the plug-in made from the bundle")
check(track:add_processor_by_index(plugin, 0, nil, true) == 0, "the plug-in on the track")
local insert = plugin:to_insert():plugin(0)
print("plugin: " .. insert:name() .. " by " .. insert:maker() .. ", " .. insert:parameter_count() ..
      " parameters")
local names = {}
for i = 0, insert:parameter_count() - 1 do
  local value = ARDOUR.LuaAPI.get_processor_param(plugin, i, true)
  names[#names + 1] = insert:parameter_label(i) .. "=" .. tostring(value)
end
print("parameters: " .. table.concat(names, " "))
check(table.concat(names, " ") ==
      "Input=1.0 Drive=5.0 Filter=5.0 Volume=5.0 Stereo=0.0 Quality=1.0 Bypass=0.0",
      "seven parameters at their defaults")

ARDOUR.LuaAPI.set_processor_param(plugin, 3, 0)
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(1000000)
local silent = level(track)
ARDOUR.LuaAPI.set_processor_param(plugin, 3, 5)
ARDOUR.LuaAPI.usleep(1000000)
local loud = level(track)
print(string.format("level: %.1f dB at Volume 0, %.1f dB at Volume 5", silent, loud))
check(Session:transport_rolling(), "the transport rolls")
check(silent < -120 and loud > -30, "Volume 0 silences the sine, Volume 5 plays it")
Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(200000)

ARDOUR.LuaAPI.set_processor_param(plugin, 1, 7.5)
Session:save_state("", false, false, false, false, false)
close_session()
check(load_session(folder, "orv") ~= nil, "the session opens again")
local reopened = Session:get_remote_nth_route(0):nth_plugin(0)
check(not reopened:isnil() and ARDOUR.LuaAPI.get_processor_param(reopened, 1, true) == 7.5,
      "Drive 7.5 comes back with the session")
close_session()
print("ardour: done")
