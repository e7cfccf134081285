// The windows come here.
