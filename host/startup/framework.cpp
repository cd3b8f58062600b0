// placeholder until the framework layer lands
