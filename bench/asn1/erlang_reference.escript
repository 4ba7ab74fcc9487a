#!/usr/bin/env escript
%% The side-by-side reference: Erlang/OTP's aligned PER codec on the same
%% values as codec_bench. usage: erlang_reference.escript LGCP_SUBSET_ASN
-mode(compile).

main([Asn]) ->
    Dir = string:trim(os:cmd("mktemp -d")),
    {ok, Text} = file:read_file(Asn),
    Fixed = binary:replace(Text, <<"trunk_bri">>, <<"trunk-bri">>, [global]),
    ok = file:write_file(filename:join(Dir, "LgcpSubset.asn"), Fixed),
    ok = file:set_cwd(Dir),
    ok = asn1ct:compile("LgcpSubset.asn", [per, {outdir, Dir}, noobj]),
    {ok, Mod} = compile:file("LgcpSubset.erl", [{outdir, Dir}]),
    code:add_patha(Dir),
    {module, Mod} = code:load_file(Mod),
    Success = {'Message', 5, 3, {response, {success, 'NULL'}}},
    Create = {'Message', 7, 10, {command, {create, {trunk, {'TrunkParams', 0, 5}}}}},
    Entries = [{'Entry', "entry-" ++ integer_to_list(I), 100000 + I * 37, I * 600,
                "label " ++ integer_to_list(I rem 10),
                case I rem 3 of 0 -> "every third one has a note"; _ -> asn1_NOVALUE end}
               || I <- lists:seq(0, 99)],
    lists:foreach(fun({Name, Type, Value, N}) -> bench(Mod, Name, Type, Value, N) end,
                  [{"success_response", 'Message', Success, 2000000},
                   {"create_command", 'Message', Create, 1000000},
                   {"large_list", 'EntryList', Entries, 10000}]),
    os:cmd("rm -rf " ++ Dir).

bench(Mod, Name, Type, Value, N) ->
    {ok, Bin} = Mod:encode(Type, Value),
    {ok, _} = Mod:decode(Type, Bin),
    Enc = time(fun() -> Mod:encode(Type, Value) end, N),
    Dec = time(fun() -> Mod:decode(Type, Bin) end, N),
    Rt = time(fun() -> {ok, B} = Mod:encode(Type, Value), Mod:decode(Type, B) end, N),
    io:format("erlang ~-18s encode ~9.3f M/s  decode ~9.3f M/s  round trip ~9.3f M/s~n",
              [Name, Enc, Dec, Rt]).

time(F, N) ->
    {Us, _} = timer:tc(fun() -> loop(F, N) end),
    N / Us.

loop(_, 0) -> ok;
loop(F, N) -> F(), loop(F, N - 1).
